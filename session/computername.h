#pragma once

#include <QString>

// The workstation's name in the per-workstation tables: the host name cut to 15 characters,
// "SenzaNome" when there is none.
QString readComputerName();
