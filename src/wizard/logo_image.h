#pragma once

#include <QPixmap>
#include <QWidget>

namespace dovrelle {

// The logo picture: shows an image and reports a click; it carries no other function.
class LogoImage : public QWidget {
    Q_OBJECT
public:
    explicit LogoImage(const QPixmap& picture, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace dovrelle
