#include "shell/detailed_info_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

#include "accounts/account_records.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"
#include "shell/message_boxes.h"

namespace {

// One row of values: the caption on the left, the value right-aligned beside it.
// The value is a frameless read-only field, so a long address scrolls instead of
// being cut and can be copied.
void addRow(QWidget* dialog, const DialogUnits& du, int y, const char* caption, const char* name,
            const std::string& value) {
    auto* label = new QLabel(QString::fromLatin1(caption), dialog);
    du.place(*label, 7, y, 70, 8);
    auto* field = new QLineEdit(fromLatin1Text(value), dialog);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFrame(false);
    field->setAlignment(Qt::AlignRight);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setCursorPosition(0);
    field->setToolTip(field->text());
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, dialog->palette().color(QPalette::Window));
    field->setPalette(palette);
    du.place(*field, 80, y - 1, 163, 10);
}

}  // namespace

DetailedInfoTexts detailedInfoTexts(const ServerRecord& record) {
    DetailedInfoTexts texts;
    texts.summary =
        std::string(recordText(record.name)) + "\r\n\r\n" + std::string(recordText(record.address));
    texts.iwad = recordText(record.iwad);
    const int pwads = std::clamp(record.num_pwads, 0, kMaxPwads);
    for (int i = 0; i < pwads; ++i) {
        texts.pwads += recordText(record.pwads[i]);
        texts.pwads += ", ";
    }
    texts.dmflags = std::to_string(record.dmflags);
    texts.dmflags2 = std::to_string(record.dmflags2);
    texts.scorecard = record.scorecard >= 1 ? "Yes" : "No";
    texts.email = recordText(record.email);
    texts.url = recordText(record.url);
    return texts;
}

DetailedInfoDialog::DetailedInfoDialog(const ServerRecord& record, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Detailed Server Info"));
    const DialogUnits du(font());
    setFixedSize(du.size(250, 169));
    const DetailedInfoTexts texts = detailedInfoTexts(record);

    auto* summary = new QTextEdit(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setReadOnly(true);
    summary->setPlainText(
        fromLatin1Text(texts.summary).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTextCursor everything(summary->document());
    everything.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    everything.mergeBlockFormat(centred);
    du.place(*summary, 7, 7, 236, 40);

    addRow(this, du, 55, "IWAD", "iwad", texts.iwad);
    addRow(this, du, 68, "PWADS", "pwads", texts.pwads);
    addRow(this, du, 81, "DMFLAGS", "dmflags", texts.dmflags);
    addRow(this, du, 94, "DMFLAGS2", "dmflags2", texts.dmflags2);
    addRow(this, du, 107, "Affects scorecard?", "scorecard", texts.scorecard);
    addRow(this, du, 120, "Admin. Email", "email", texts.email);
    addRow(this, du, 133, "Web URL", "url", texts.url);

    auto* ok = du.button(*this, "OK", "ok", 100, 149, 50, 14, ButtonKind::Default);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void showDetailedServerInfo(const std::optional<ServerRecord>& selected, MessageBoxes& boxes,
                            QWidget* parent) {
    if (!selected) {
        boxes.showMessage({kDetailedInfoNoServer, "", MessageIcon::None});
        return;
    }
    DetailedInfoDialog dialog(*selected, parent);
    dialog.exec();
}
