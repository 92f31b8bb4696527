#pragma once
// A request the export command refuses (a missing or bad split number, an unknown race): the
// user is told why and the command ends with status 2, apart from a database's failure.

#include "common/AppError.h"

class ExportRefusal : public AppError {
public:
    using AppError::AppError;
};
