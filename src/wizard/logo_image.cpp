#include "wizard/logo_image.h"

#include <QMouseEvent>
#include <QPainter>

namespace dovrelle {

LogoImage::LogoImage(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture)
{
    setCursor(Qt::PointingHandCursor);
}

void LogoImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), picture_);
}

void LogoImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}  // namespace dovrelle
