#ifndef FERROLINK_SWITCHBUTTON_H
#define FERROLINK_SWITCHBUTTON_H

#include <QAbstractButton>

namespace ferrolink {

// A small slide switch standing for one input line: up and lit when on.
// It is a checkable button, so a click or the space bar toggles it.
class SwitchButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace ferrolink

#endif
