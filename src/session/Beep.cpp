#include "Beep.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtMath>

Beep::Beep(QObject *parent) : QObject(parent) {}

Beep::~Beep()
{
    if (m_sink)
        m_sink->stop();
}

QByteArray Beep::tone()
{
    const int samples = SampleRate * DurationMs / 1000;
    const int fade = SampleRate / 200; // 5 ms
    QByteArray data(samples * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(data.data());
    for (int i = 0; i < samples; ++i) {
        qreal gain = 0.5;
        if (i < fade)
            gain *= qreal(i) / fade;
        else if (samples - i < fade)
            gain *= qreal(samples - i) / fade;
        out[i] = qint16(gain * 32767 * qSin(2 * M_PI * Frequency * i / SampleRate));
    }
    return data;
}

void Beep::play()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return; // no sound card (a server, CI): the alert is silent
    QAudioFormat format;
    format.setSampleRate(SampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return;
    if (m_sink)
        m_sink->stop();
    delete m_sink;
    delete m_buffer;
    m_buffer = new QBuffer(this);
    m_buffer->setData(tone());
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(device, format, this);
    m_sink->start(m_buffer);
}
