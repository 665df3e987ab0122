#include "app/StartProblem.h"

#include "ui/MessageBox.h"

#include <cstdio>

namespace pagemint {

int reportStartProblem(const QString &problem)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
    std::fflush(stderr);
    ShowMessage(nullptr, problem, applicationTitle(), QMessageBox::Critical);
    return 1;
}

} // namespace pagemint
