#pragma once
// Stages one picture of the list as a JPEG page for the converter.

#include "contract/PageReference.h"

#include <QString>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace pagemint {

class DecodeTask;

struct StageResult {
    bool staged = false;
    QString reason; // short English text when not staged
};

// Stages the picture at list position `index` as the page stagedPageName(index): a JPEG that a PDF
// reader can show goes in byte for byte, read where it lies through a page reference the staging
// folder lists (contract/PageReference.h); anything else is decoded by the pagemint-decoder helper
// and written anew (quality 75) as stagingFolder()/stagedPageName(index). Leaves no page there on
// failure. Keeps handling Qt events while it waits.
StageResult StagePage(int index, const QString &sourcePath);

// Lists `reference` as the page at list position `index` in the staging folder.
StageResult listReference(int index, const PageReference &reference);

// StagePage in two steps, so that several pictures can decode at once (PageStaging.h): the
// picture is checked at construction, without handling events: a JPEG that passes through gets
// its reference at once (listed by whoever hands the page out), anything else has its decoder
// started; finish() takes the decoder's result, or copies a JPEG whose file system may not keep
// its identity (handling events).
class PageStage {
public:
    PageStage(const QString &sourcePath, std::filesystem::path target);
    ~PageStage(); // a decoder still running is killed
    PageStage(const PageStage &) = delete;
    PageStage &operator=(const PageStage &) = delete;

    // Moves the decoder on without blocking; true when finish() will not wait for it.
    bool advance();
    // True while a decoder helper runs for this picture.
    bool decoding() const;
    // True once the page is ready: a reference from the start, a decoded page once at `target`.
    bool pageWritten() const;
    // The reference of a JPEG that passes through (none when it is copied).
    const std::optional<PageReference> &reference() const { return reference_; }

    // Tests stage as on a file system that keeps (true) or may not keep (false) a file's
    // identity; none: as the picture's file system does.
    static void setReadInPlaceForTesting(std::optional<bool> readInPlace);
    void wait(std::chrono::milliseconds timeout);
    // Waits for the decoder if needed (handling events) and returns the outcome; `target` then
    // holds the page, or no file when it was not staged. Call once.
    StageResult finish();

private:
    StageResult refuse(QString reason);

    QString source_;
    std::filesystem::path target_;
    enum class Kind { Refused, Reference, Copy, Decode } kind_ = Kind::Refused;
    QString reason_;
    std::unique_ptr<DecodeTask> decode_;
    std::optional<PageReference> reference_;
};

} // namespace pagemint
