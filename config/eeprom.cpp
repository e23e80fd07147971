#include "config/eeprom.h"

kestrin::Config EEPROM;
kestrin::eeprom_union eeprom{};
