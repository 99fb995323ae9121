#pragma once

#include <string>

// Every box the engine shows goes through this interface: the Qt window shows a
// QMessageBox, the command-line tool prints to stderr, the tests record it.
enum class BoxIcon { Error, Warning, Information, Exclamation };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                           BoxButtons buttons) = 0;
};
