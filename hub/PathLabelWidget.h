#pragma once
// A label for a file path: a path longer than the label is shown with its middle left out
// ("C:\Games\...\Scenario.bin") and in full as the label's tooltip. text() is always the
// whole path.

#include <QLabel>

class PathLabelWidget : public QLabel {
    Q_OBJECT
public:
    explicit PathLabelWidget(QWidget* parent = nullptr);

    // The text as the label shows it in its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
