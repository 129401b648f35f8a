#include "shell/message_boxes.h"

#include <QMessageBox>
#include <QMetaObject>
#include <cstdio>
#include <utility>

#include "shell/latin1_text.h"

namespace {

QString captionText(const std::string& caption) {
    return fromLatin1Text(caption.empty() ? std::string_view(kApplicationTitle) : std::string_view(caption));
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessageBoxes::showMessage(UserMessage message) {
    QMessageBox box(boxIcon(message.icon), captionText(message.caption), fromLatin1Text(message.text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtMessageBoxes::confirm(std::string text, std::string caption) {
    QMessageBox box(QMessageBox::NoIcon, captionText(caption), fromLatin1Text(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() != QMessageBox::No;
}

void PrintedMessageBoxes::showMessage(UserMessage message) {
    std::printf("box: %s|%s\n", message.caption.c_str(), message.text.c_str());
    std::fflush(stdout);
}

bool PrintedMessageBoxes::confirm(std::string text, std::string caption) {
    std::printf("question: %s|%s\n", caption.c_str(), text.c_str());
    std::fflush(stdout);
    return m_answer;
}

QtQueuedMessageView::QtQueuedMessageView(MessageBoxes& boxes, QObject* parent)
    : QObject(parent), m_boxes(boxes) {}

void QtQueuedMessageView::showMessage(std::string text, std::string caption) {
    QMetaObject::invokeMethod(
        this,
        [this, text = std::move(text), caption = std::move(caption)]() mutable {
            m_boxes.showMessage({std::move(text), std::move(caption)});
        },
        Qt::QueuedConnection);
}

void QtQueuedMessageView::showReport(std::string text, const std::function<void()>& closed) {
    QMetaObject::invokeMethod(
        this,
        [this, text = std::move(text), closed]() mutable {
            m_boxes.showMessage({std::move(text), {}});
            closed();
        },
        Qt::QueuedConnection);
}
