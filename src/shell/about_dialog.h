#pragma once

#include <QDialog>
#include <QIcon>

inline constexpr char kAboutName[] = "Brumvek Game Browser";
inline constexpr char kAboutVersion[] = "v1.04b";

// The program's icon, drawn from its picture at the usual window and task-bar
// sizes.
QIcon applicationIcon();

// The About box: the program's icon, name and version and what it is for. OK,
// Enter and Escape close it.
class AboutDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

// The About command: the About box, modally, and nothing else.
void showAboutBox(QWidget* parent = nullptr);
