#include "FonctionUtilitaires.h"

#include "AppException.h"
#include "ErrorReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QWidget>

namespace FonctionUtilitaires {

QString ConvertNullStr(const QVariant& value, Ui* ui)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (value.canConvert<QString>())
        return value.toString();
    if (ui)
        ErrorReport::ReportError(*ui, QStringLiteral("ConvertNullStr"), AppException::TypeMismatch,
                                 QStringLiteral("Incompatibilité de type"));
    return QString();
}

double ConvertNullNum(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return 0.0;
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return 0.0;
        bool ok = false;
        double d = QLocale::c().toDouble(text, &ok);
        if (!ok)
            d = QLocale(QLocale::French, QLocale::France).toDouble(text, &ok);
        if (!ok)
            throw AppException(AppException::TypeMismatch, QStringLiteral("Incompatibilité de type"));
        return d;
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        throw AppException(AppException::TypeMismatch, QStringLiteral("Incompatibilité de type"));
    return d;
}

void Pause(double seconds)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 wanted = static_cast<qint64>(seconds * 1000.0);
    do {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (timer.elapsed() >= wanted)
            break;
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(10, wanted - timer.elapsed())));
    } while (timer.elapsed() < wanted);
}

static QRect screenGeometry(QWidget* w)
{
    QScreen* screen = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

void CentreForm(QWidget* window)
{
    if (!window)
        return;
    const QRect screen = screenGeometry(window);
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen.center());
    window->move(frame.topLeft());
}

void CentreControl(QWidget* control)
{
    if (!control)
        return;
    const QRect screen = screenGeometry(control);
    control->move((screen.width() - control->width()) / 2,
                  (screen.height() - control->height()) / 2);
}

} // namespace FonctionUtilitaires
