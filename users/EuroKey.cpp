#include "EuroKey.h"

#include "AppException.h"

#include <QElapsedTimer>

EuroKey::EuroKey(const QString& portSetting) : m_device(deviceOfSetting(portSetting)) {}

QString EuroKey::deviceOfSetting(const QString& portSetting)
{
    const QString s = portSetting.trimmed();
    bool isNumber = false;
    const int n = s.toInt(&isNumber);
    if (isNumber)
        return n >= 1 ? QStringLiteral("/dev/ttyS%1").arg(n - 1) : QString();
    return s;
}

void EuroKey::setWaits(int first, int second, int third)
{
    m_waits[0] = first;
    m_waits[1] = second;
    m_waits[2] = third;
}

void EuroKey::OuvrirPortLecteur()
{
    if (m_port.isOpen() || m_device.isEmpty())
        return;
    m_port.setPortName(m_device);
    if (!m_port.open(QIODevice::ReadWrite))
        return;
    const bool configured = m_port.setBaudRate(QSerialPort::Baud9600) &&
                            m_port.setParity(QSerialPort::NoParity) &&
                            m_port.setDataBits(QSerialPort::Data8) &&
                            m_port.setStopBits(QSerialPort::OneStop) &&
                            m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        m_port.close();
        return;
    }
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
}

void EuroKey::send(char byte)
{
    if (!m_port.isOpen())
        throw AppException(8018, QStringLiteral("Opération valide uniquement lorsque le port est ouvert"));
    if (m_port.write(&byte, 1) != 1 || !m_port.waitForBytesWritten(500))
        throw AppException(8018, QStringLiteral("Le lecteur de badge ne répond plus : %1")
                                     .arg(m_port.errorString()));
}

QByteArray EuroKey::waitFor(int count, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    m_port.clearError();
    while (m_port.bytesAvailable() < count) {
        const qint64 left = milliseconds - timer.elapsed();
        if (left <= 0)
            break;
        if (!m_port.waitForReadyRead(static_cast<int>(left)) &&
            m_port.error() != QSerialPort::TimeoutError && m_port.error() != QSerialPort::NoError)
            break; // the device went away: take what came
    }
    return m_port.readAll();
}

QString EuroKey::LireNumeroBadge()
{
    OuvrirPortLecteur();
    send('\x00');
    if (waitFor(1, m_waits[0]).isEmpty())
        return QStringLiteral("ERREUR");
    send('\x04');
    waitFor(1, m_waits[1]);
    send('\x00');
    const QByteArray answer = waitFor(17, m_waits[2]);
    if (answer.size() < 13)
        return QString();
    if (static_cast<unsigned char>(answer[0]) == 0xFF && static_cast<unsigned char>(answer[1]) == 0xFF)
        return QString();
    quint32 id = 0;
    for (int i = 9; i <= 12; ++i)
        id = (id << 8) | static_cast<unsigned char>(answer[i]);
    return QString::number(static_cast<qint32>(id));
}
