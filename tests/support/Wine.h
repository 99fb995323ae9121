#pragma once

namespace testsupport {

// True when this is a Windows program running under Wine, whose serial layer shows some
// events of a line otherwise than Windows' drivers do: tests of those skip there, saying why.
// Each platform has its own file.
bool RunningUnderWine();

}  // namespace testsupport
