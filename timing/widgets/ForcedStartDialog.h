#pragma once
// "繰上スタート": the exchange and, when classes start apart, the class of a forced start,
// asked for when the operator clicks the button. None when the operator cancels.

#include "timing/session/RelaySession.h"

#include <QStringList>
#include <optional>

class QWidget;

std::optional<ForcedStartChoice> AskForcedStartChoice(QWidget* parent, const QStringList& classes);
