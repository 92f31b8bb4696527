#pragma once
// Measuring what the speech control produced: its WAV files and their audio.

#include "speech/SmarTalk.h"
#include "speech/SpeechAudio.h"

#include <QSignalSpy>
#include <QString>
#include <QTest>

// Reads a 16-bit mono PCM WAV file; fails the test (and returns nothing) on anything else.
SpeechAudio ReadWav(const QString& path);

// The numbered file the control writes for its n-th text (from 1).
QString WavPath(const QString& folder, int number);

double Rms(const SpeechAudio& audio);

// Median fundamental frequency of the voiced frames, by autocorrelation (60..500 Hz).
double MedianPitchHz(const SpeechAudio& audio);

// Waits until the spy has seen count signals, then a little longer, so that one too many is
// seen as well. False on timeout.
bool WaitForSignals(QSignalSpy& spy, int count, int timeoutMs = 10000);
