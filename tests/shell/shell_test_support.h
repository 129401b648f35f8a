#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <deque>
#include <string>
#include <vector>

#include "shell/message_boxes.h"

// Shared by the shell's tests: message boxes that record instead of waiting
// for a user, and the simulator as a child process.

// Records every box and answers each question from a script (Yes when the
// script has run out).
class RecordingBoxes final : public MessageBoxes {
  public:
    void showMessage(UserMessage message) override { messages.push_back(std::move(message)); }

    bool confirm(std::string text, std::string caption) override {
        questions.push_back({std::move(text), std::move(caption), MessageIcon::None});
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const UserMessage& message : messages) {
            result.push_back(message.text);
        }
        return result;
    }

    std::vector<UserMessage> messages;
    std::vector<UserMessage> questions;
    std::deque<bool> answers;
};

// pellrig-sim with its master on a free loopback port, a time limit, and no
// game servers unless the options name a scenario; stopped when this object
// goes.
class SimRunner {
  public:
    explicit SimRunner(QStringList options = {}) {
        options << QStringLiteral("--master-port") << QStringLiteral("0") << QStringLiteral("--exit-after-ms")
                << QStringLiteral("120000");
        if (!options.contains(QStringLiteral("--scenario"))) {
            options << QStringLiteral("--generate") << QStringLiteral("0");
        }
        m_process.start(QStringLiteral(PELLRIG_SIM_PATH), options);
        if (!m_process.waitForStarted(10000)) {
            return;
        }
        for (int tries = 0; tries < 100 && m_master.isEmpty(); ++tries) {
            if (!m_process.canReadLine()) {
                m_process.waitForReadyRead(100);
                continue;
            }
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("ready master="))) {
                m_master = line.section(QLatin1Char(' '), 1, 1).section(QLatin1Char('='), 1);
            }
        }
    }
    ~SimRunner() {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    // "127.0.0.1:port", or empty when the simulator did not start.
    std::string master() const { return m_master.toStdString(); }

  private:
    QProcess m_process;
    QString m_master;
};
