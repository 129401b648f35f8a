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
// game servers unless the options name a scenario. Its standard error is the
// test's own, so its messages land in the test log.
//
// A simulator that came up is stopped when the object goes, if stop() has not
// stopped it before, and the running test fails unless it exits with status 0.
// That is how a sanitizer's report inside the simulator reaches the test: the
// report makes it exit otherwise.
class SimRunner {
  public:
    explicit SimRunner(QStringList options = {}) {
        options << QStringLiteral("--master-port") << QStringLiteral("0") << QStringLiteral("--exit-after-ms")
                << QStringLiteral("120000");
        if (!options.contains(QStringLiteral("--scenario"))) {
            options << QStringLiteral("--generate") << QStringLiteral("0");
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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
            if (line.startsWith(QStringLiteral("server "))) {
                m_servers << line.section(QLatin1Char(' '), 1, 1);
            } else if (line.startsWith(QStringLiteral("ready master="))) {
                m_master = line.section(QLatin1Char(' '), 1, 1).section(QLatin1Char('='), 1);
            }
        }
    }
    ~SimRunner() {
        if (!m_stopped && !m_master.isEmpty()) {
            stop();
        }
    }
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    // "127.0.0.1:port", or empty when the simulator did not start.
    std::string master() const { return m_master.toStdString(); }

    // The game servers, with --print-servers among the options.
    QStringList servers() const { return m_servers; }

    // Stops the simulator with SIGTERM and fails the running test unless it
    // exits with status 0. Outside a test function no failure would count, so
    // there it ends the test program instead.
    void stop() {
        m_stopped = true;
#ifdef Q_OS_WIN
        // A console program on Windows gets no signal to end on, and there is
        // no sanitizer report to wait for.
        m_process.kill();
        m_process.waitForFinished(10000);
        return;
#endif
        m_process.terminate();
        m_process.waitForFinished(10000);
        QByteArray message;
        if (m_process.state() != QProcess::NotRunning) {
            message = "pellrig-sim did not stop within 10 s";
        } else if (m_process.exitStatus() == QProcess::CrashExit) {
            message = "pellrig-sim was killed by a signal";
        } else if (m_process.exitCode() != 0) {
            message = "pellrig-sim exited with status " + QByteArray::number(m_process.exitCode()) +
                      "; its standard error is above";
        } else {
            return;
        }
        if (QTest::currentTestFunction() == nullptr) {
            qFatal("%s", message.constData());
        }
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }

  private:
    QProcess m_process;
    QString m_master;
    QStringList m_servers;
    bool m_stopped = false;
};
