#pragma once
// The bar while the converter writes a merged document, apart from any window.

#include <QString>

#include <optional>

namespace pagemint {

struct ProgressStep {
    double fill; // of the whole bar, from 0 to 1
    QString text;
};

// Follows the converter's page lines. The bar never moves back, and the first page (number 0)
// leaves it where staging left it: the converter has only begun.
class ConverterProgress {
public:
    explicit ConverterProgress(int pageCount) : pageCount_(pageCount) {}
    // Where the bar goes for a piece of converter output; none when the piece names no page at or
    // past the one shown.
    std::optional<ProgressStep> advance(const QString &chunk);

private:
    int pageCount_;
    // Above zero from the start, so page 0 does not count as progress.
    double filled_ = 1e-9;
};

} // namespace pagemint
