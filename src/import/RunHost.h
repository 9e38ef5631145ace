#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// A progress display for one long step. The step writes SetPercent as it goes and calls Terminate
// exactly once at its end (also on failure); after Terminate the sink is not used again.
class IProgressSink {
  public:
    virtual ~IProgressSink() = default;
    virtual void SetPercent(double percent) = 0;
    // The row the step is at and how many it has; a display may show them beside the percentage.
    virtual void SetRows(std::size_t /*row*/, std::size_t /*rowCount*/) {}
    virtual void Terminate() = 0;
};

// What the import run and the export need of their surroundings. The desktop program binds it to
// the progress window, message boxes and the main window's count label; the converter to the
// terminal; tests to a recorder.
class IRunHost {
  public:
    virtual ~IRunHost() = default;
    virtual std::unique_ptr<IProgressSink> CreateProgress(const std::string& caption,
                                                          bool percentMode) = 0;
    // A modal box with a warning icon; returns when the operator has closed it.
    virtual void ShowWarning(const std::string& caption, const std::string& text) = 0;
    // A modal box with an information icon; returns when the operator has closed it.
    virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;
    virtual void HideCount() = 0;
    virtual void ShowCount(const std::string& text) = 0;
    // Shows the results viewer (non-modal), or brings it to the front.
    virtual void ShowResults() = 0;
};

// The text of the standard error display: the message, with a "." appended when the code of its
// last character is above that of "." (so "...!" stays, "...записи" gets its full stop).
inline std::string ErrorDisplayText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}
