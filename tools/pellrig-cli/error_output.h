#pragma once

#include <string>
#include <string_view>

#include "browser/queued_message_view.h"
#include "exit_codes.h"
#include "launch/user_messages.h"

// What pellrig-cli prints on standard error: the core's message boxes, one a
// line, and its own failures.

// A message box of the core, its 8-bit texts in UTF-8: "caption: text", or the
// text alone when the caption is empty. Safe on any thread.
void printCoreMessage(std::string_view text, std::string_view caption = {});

// Every message that the settings, WAD, launch and news code showed.
void printCoreMessages(const MemoryModalMessageView& sink);

// A failure that pellrig-cli itself reports: "pellrig-cli: `text`".
void printFailure(std::string_view text);

// NoMaster, after saying that `master` did not answer.
ExitCode reportNoMaster(const std::string& master);

// Done when the settings were `saved`; else SaveFailed, after what the save showed.
ExitCode reportSave(bool saved, const MemoryModalMessageView& sink);

// The browser core's message boxes printed as they come, from any thread; with
// `keep`, also passed on for the command to look at.
class StderrMessageView final : public QueuedMessageView {
  public:
    explicit StderrMessageView(QueuedMessageView* keep = nullptr) : m_keep(keep) {}
    void showMessage(std::string text, std::string caption) override;

  private:
    QueuedMessageView* m_keep;
};
