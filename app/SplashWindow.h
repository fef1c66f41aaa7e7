#pragma once

#include <QWidget>

// The splash window: its caption "Loading ZUR" is also the single-instance marker, so
// it is hidden, never closed, when start-up ends.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
};
