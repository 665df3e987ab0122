#pragma once
// Whether a job can put its PDFs in the output folder, checked before anything is staged: a job
// that could only fail at delivery would stage every picture first and then say nothing useful.

#include <QString>

namespace pagemint {

// Creates the last level of `folder` when it is missing and checks that a file can be made in
// it. Empty when the folder can take the PDFs; otherwise why not, in the system's words. The
// staging folder and folders inside it are refused: the clean-up after the job empties them.
QString outputFolderProblem(const QString &folder);

} // namespace pagemint
