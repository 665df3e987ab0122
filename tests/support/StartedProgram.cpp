#include "StartedProgram.h"

#include "Wait.h"

#include "contract/StagingFolder.h"
#include "conversion/StagingPaths.h"

#include <QDir>

namespace pagemint::test {

bool startProgramAndWaitUntilUp(QProcess &program)
{
    const QString staging = fromFsPath(stagingFolder());
    QDir().mkpath(staging);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(PAGEMINT_APP_DIR "/pagemint"), {});
    return program.waitForStarted() && waitFor([&] { return !QDir(staging).exists(); }, 10000);
}

} // namespace pagemint::test
