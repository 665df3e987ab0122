#pragma once
// The built program, started as a user starts it, for the tests of start-up, a second start and exit.

#include <QProcess>

namespace pagemint::test {

// Starts the program of the application folder and returns once it is up and waits for the user:
// a staging folder made before the start is removed by the step after loading, so its going says
// the program got there. False when it did not come up.
bool startProgramAndWaitUntilUp(QProcess &program);

} // namespace pagemint::test
