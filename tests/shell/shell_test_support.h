#pragma once

#include <QApplication>
#include <QHeaderView>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/message_boxes.h"
#include "sim_start.h"

// Shared by the shell's tests: finding controls by name, answering modal
// dialogs, message boxes that record instead of waiting for a user, and the
// simulator as a child process.

// The child of `parent` named `name`, which must exist.
template <typename Widget = QPushButton>
Widget* child(const QObject* parent, const char* name) {
    auto* found = parent->findChild<Widget*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("no child named %s", name);
    }
    return found;
}

// Clicks the heading of `column` in `list`.
inline void clickHeading(QTreeWidget& list, int column) {
    QHeaderView& header = *list.header();
    QTest::mouseClick(
        header.viewport(), Qt::LeftButton, {},
        {header.sectionViewportPosition(column) + header.sectionSize(column) / 2, header.height() / 2});
}

// Answers the modal dialogs that open, one after another, by their titles, as
// long as the object lives. A dialog that is not the next step's is left alone.
class ModalScript {
  public:
    struct Step {
        QString title;
        std::function<void(QWidget&)> act;
    };

    explicit ModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }

  private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == m_last) {
            return;
        }
        m_last = modal;
        if (modal != nullptr && m_next < m_steps.size() && modal->windowTitle() == m_steps[m_next].title) {
            m_steps[m_next++].act(*modal);
        }
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    QPointer<QWidget> m_last;  // null again once that dialog is gone
    QTimer m_timer;
};

// Records every box and the thread it came on, and answers each question from
// a script (Yes when the script has run out), after running `whileAsking`.
class RecordingBoxes final : public MessageBoxes {
  public:
    void showMessage(UserMessage message) override {
        threads.push_back(QThread::currentThread());
        messages.push_back(std::move(message));
    }

    bool confirm(std::string text, std::string caption) override {
        threads.push_back(QThread::currentThread());
        questions.push_back({std::move(text), std::move(caption), MessageIcon::None});
        if (whileAsking) {
            whileAsking();
        }
        const bool answer = answers.empty() || answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
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
    std::vector<QThread*> threads;
    std::function<void()> whileAsking;
};

// pellrig-sim with its master on a free loopback port, a time limit, and no
// game servers unless the options name a scenario. Its standard error is the
// test's own, so its messages land in the test log. Going, it stops the
// simulator and fails the running test unless that exits with status 0: that
// is how a sanitizer's report inside the simulator reaches the test.
class SimRunner {
  public:
    explicit SimRunner(std::vector<std::string> options = {}) {
        QStringList withDefaults;
        for (const std::string& option : simArguments(std::move(options))) {
            withDefaults << QString::fromStdString(option);
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(PELLRIG_SIM_PATH), withDefaults);
        if (!m_process.waitForStarted(10000)) {
            return;
        }
        for (int tries = 0; tries < 100 && m_master.empty(); ++tries) {
            if (!m_process.canReadLine()) {
                m_process.waitForReadyRead(100);
                continue;
            }
            const std::string line = m_process.readLine().trimmed().toStdString();
            if (line.rfind("server ", 0) == 0) {
                m_servers.push_back(line.substr(7));
            } else if (const std::optional<SimReady> ready = simReadyLine(line)) {
                m_master = ready->master;
                m_news = ready->news;
            }
        }
    }
    ~SimRunner() {
        if (!m_master.empty()) {
            stop();
        }
    }
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    // "127.0.0.1:port", or empty when the simulator did not start.
    const std::string& master() const { return m_master; }
    // The web server's "127.0.0.1:port", with --news-port or --wad-site.
    const std::string& news() const { return m_news; }
    // The game servers' "127.0.0.1:port", in the scenario's order.
    const std::vector<std::string>& servers() const { return m_servers; }

  private:
    // Outside a test function no failure would count, so there a failure ends
    // the test program instead.
    void stop() {
#ifdef Q_OS_WIN
        // A console program on Windows gets no signal to end on, and there is
        // no sanitizer report to wait for.
        m_process.kill();
        m_process.waitForFinished(10000);
        return;
#endif
        m_process.terminate();
        m_process.waitForFinished(10000);
        if (m_process.state() == QProcess::NotRunning && m_process.exitStatus() == QProcess::NormalExit &&
            m_process.exitCode() == 0) {
            return;
        }
        const char* message = "pellrig-sim did not end with status 0 on SIGTERM; its standard error is above";
        if (QTest::currentTestFunction() == nullptr) {
            qFatal("%s", message);
        }
        QTest::qFail(message, __FILE__, __LINE__);
    }

    QProcess m_process;
    std::string m_master;
    std::string m_news;
    std::vector<std::string> m_servers;
};
