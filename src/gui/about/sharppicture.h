#pragma once

#include <QGuiApplication>
#include <QString>

namespace mdk {

// The resource path of one of our pictures for this screen: the twin drawn
// at twice the pixels (its "@2x" name gives it a pixel ratio of 2) on a
// screen scaled past 100 %, where the plain one would be stretched and blur.
inline QString sharpPicture(const QString &name)
{
    return qGuiApp->devicePixelRatio() > 1 ? QStringLiteral(":/pictures/%1@2x.png").arg(name)
                                           : QStringLiteral(":/pictures/%1.png").arg(name);
}

} // namespace mdk
