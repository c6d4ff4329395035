// The look and limits shared by every PIN field: four characters masked with "*", centred,
// "Courier New" 9.75 point bold, no input method.
#pragma once

#include <QLineEdit>

void MakePinField(QLineEdit* field);
