#include "error_output.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "latin1_text.h"

void printCoreMessage(std::string_view text, std::string_view caption) {
    // Some texts end in a line break of their own; each message gets one.
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    // The receive thread prints too; whole lines keep apart.
    static std::mutex mutex;
    const std::scoped_lock lock(mutex);
    if (caption.empty()) {
        std::fprintf(stderr, "%s\n", utf8FromLatin1(text).c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", utf8FromLatin1(caption).c_str(), utf8FromLatin1(text).c_str());
    }
}

void printCoreMessages(const MemoryModalMessageView& sink) {
    for (const UserMessage& message : sink.messages()) {
        printCoreMessage(message.text, message.caption);
    }
}

void printFailure(std::string_view text) {
    std::fprintf(stderr, "pellrig-cli: %.*s\n", static_cast<int>(text.size()), text.data());
}

ExitCode reportNoMaster(const std::string& master) {
    printFailure("no answer from the master server " + master);
    return ExitCode::NoMaster;
}

ExitCode reportSave(bool saved, const MemoryModalMessageView& sink) {
    if (saved) {
        return ExitCode::Done;
    }
    printCoreMessages(sink);
    return ExitCode::SaveFailed;
}

void StderrMessageView::showMessage(std::string text, std::string caption) {
    printCoreMessage(text, caption);
    if (m_keep != nullptr) {
        m_keep->showMessage(std::move(text), std::move(caption));
    }
}
