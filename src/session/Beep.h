#pragma once
// The turn alert: an 800 Hz tone of 400 ms, generated and played without blocking.

#include <QObject>

class QAudioSink;
class QBuffer;

class Beep : public QObject
{
    Q_OBJECT
public:
    static constexpr int Frequency = 800;
    static constexpr int DurationMs = 400;
    static constexpr int SampleRate = 22050;

    explicit Beep(QObject *parent = nullptr);
    ~Beep() override;

    // Starts the tone and returns at once; does nothing where no audio output exists.
    void play();

    // The tone's samples: signed 16-bit mono, with short fades so that it does not click.
    static QByteArray tone();

private:
    QAudioSink *m_sink = nullptr;
    QBuffer *m_buffer = nullptr;
};
