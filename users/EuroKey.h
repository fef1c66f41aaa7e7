#pragma once

#include <QSerialPort>
#include <QString>

// The serial badge reader: opened once at "9600,N,8,1" and asked for the badge in
// front of it with the three-step exchange 00, 04, 00.
class EuroKey {
public:
    // portSetting: a port number n (device /dev/ttyS(n-1)) or a device path.
    explicit EuroKey(const QString& portSetting);

    static QString deviceOfSetting(const QString& portSetting);

    // Opens the port when it is not open yet; every failure is silent.
    void OuvrirPortLecteur();
    // The badge number as decimal text; "ERREUR" when the reader does not answer; the
    // empty text for a short answer or no badge. Throws AppException when the port is
    // not open (the caller handles it as its own failure).
    QString LireNumeroBadge();

    bool isOpen() const { return m_port.isOpen(); }
    // Waits in milliseconds (1000, 3000, 2000 on the real reader).
    void setWaits(int first, int second, int third);

private:
    void send(char byte);
    QByteArray waitFor(int count, int milliseconds);

    QString m_device;
    QSerialPort m_port;
    int m_waits[3] = {1000, 3000, 2000};
};
