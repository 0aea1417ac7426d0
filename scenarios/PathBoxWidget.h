#pragma once
// A framed box that shows a path whole: the path breaks between words where it can and anywhere
// else (a path has few blanks), and the box asks for the height its lines need at its width.
// Its text is the path as it was set.

#include <QLabel>

class PathBoxWidget : public QLabel {
    Q_OBJECT
public:
    explicit PathBoxWidget(QWidget* parent = nullptr);

    // How the path's lines are broken and set in the box.
    static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
