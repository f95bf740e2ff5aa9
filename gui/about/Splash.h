// The splash screen: the emblem with "Loading..." over it, on screen while
// the program starts. Start-up shows it; the main window's first showing
// closes it.
#pragma once

#include <QWidget>

class QLabel;

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

private:
    QLabel* Image1;
    QLabel* Label1;
};
