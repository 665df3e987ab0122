#pragma once
// A command-line run's own folder: its staging folder, and the link its converter is started
// through, so that neither the window nor another run touches what this run does, nor this run
// theirs.

#include <QString>

#include <filesystem>
#include <string_view>

namespace pagemint {

// The name the run's converter runs under. The window ends every process named pdf.exe it sees
// (one left from a crash would write into its staging folder), and waits while one runs; a
// converter started through a link of this name is neither ended nor waited for by it.
inline constexpr std::string_view kRunConverterName = "pagemint-pdf";

// A run's folder is named this followed by the six letters and digits mkdtemp picks.
inline constexpr std::string_view kRunFolderPrefix = "pagemint-run.";
// The file in a run's folder that its run holds locked (flock) as long as it lives: a folder whose
// lock is free was left by a run that was killed outright, and the next run removes it.
inline constexpr std::string_view kRunFolderLockName = "owner.lock";

class RunFolder {
public:
    // Removes the folders of dead runs beside the window's staging folder (RunFolderSweep.h), then
    // makes "pagemint-run.XXXXXX" (the owner's alone) there and locks it for this run's life; from
    // then on this process and the converters it starts stage in its "inkleaf_tmp"
    // (kStagingFolderVariable). `problem` says why not when it could not be made.
    RunFolder();
    // Removes the folder and everything in it: staged pages, the converter's tmp.pdf, what the
    // clean-up set aside. Once the program is asked to end (exitRequested) it takes a moment at
    // most: the rest goes in a process of its own that outlives this one.
    ~RunFolder();
    RunFolder(const RunFolder &) = delete;
    RunFolder &operator=(const RunFolder &) = delete;

    const QString &problem() const { return problem_; }
    // The run's link to the application folder's data/pdf.exe.
    QString converterProgram() const;

private:
    std::filesystem::path folder_;
    // The descriptor holding kRunFolderLockName locked; -1 when it could not be taken.
    int lock_ = -1;
    QString problem_;
};

} // namespace pagemint
