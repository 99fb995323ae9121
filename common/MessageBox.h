#pragma once

#include <string>

// Every box the engine shows goes through this interface: the Qt window shows a
// QMessageBox, the command-line tool prints to stderr, the tests record it.
enum class BoxIcon { Error, Warning, Information, Exclamation };
// YesNoDefaultNo: Enter answers No, for a question whose Yes ends work that cannot be resumed.
enum class BoxButtons { Ok, YesNo, YesNoDefaultNo };
enum class BoxAnswer { Ok, Yes, No };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                           BoxButtons buttons) = 0;
};
