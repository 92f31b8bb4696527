#pragma once
// What the application's error handler would have shown in its dialog during the test.

#include <QStringList>

QStringList& ShownErrors();
