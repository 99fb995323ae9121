#include "tests/soak/SoakObserver.h"

#include <cstdio>

void SoakObserver::OnLogLine(const std::string& message, bool ok) {
    lastLine = {message, ok ? "ok" : "failed"};
}

BoxAnswer SoakObserver::OnBox(const SessionBox& box) {
    ++boxes;
    std::fprintf(stderr, "message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    return BoxAnswer::No;
}
