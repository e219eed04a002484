#pragma once
// The dialog templates of the module, one function per dialog resource, each in its own file.

#include "platform/DialogTemplate.h"

namespace res {

platform::DialogTemplate Dialog1();
platform::DialogTemplate Dialog200();
platform::DialogTemplate Dialog201();
platform::DialogTemplate Dialog202();
platform::DialogTemplate Dialog203();
platform::DialogTemplate Dialog204();
platform::DialogTemplate Dialog205();
platform::DialogTemplate Dialog206();
platform::DialogTemplate Dialog207();
platform::DialogTemplate Dialog208();
platform::DialogTemplate Dialog209();
platform::DialogTemplate Dialog210();
platform::DialogTemplate Dialog211();
platform::DialogTemplate Dialog212();
platform::DialogTemplate Dialog213();
platform::DialogTemplate Dialog214();
platform::DialogTemplate Dialog215();
platform::DialogTemplate Dialog216();
platform::DialogTemplate Dialog217();
platform::DialogTemplate Dialog218();
platform::DialogTemplate Dialog219();
platform::DialogTemplate Dialog220();
platform::DialogTemplate Dialog221();
platform::DialogTemplate Dialog222();
platform::DialogTemplate Dialog223();
platform::DialogTemplate Dialog224();
platform::DialogTemplate Dialog225();
platform::DialogTemplate Dialog226();
platform::DialogTemplate Dialog227();
platform::DialogTemplate Dialog228();
platform::DialogTemplate Dialog229();
platform::DialogTemplate Dialog230();
platform::DialogTemplate Dialog231();
platform::DialogTemplate Dialog232();
platform::DialogTemplate Dialog233();
platform::DialogTemplate Dialog234();
platform::DialogTemplate Dialog235();
platform::DialogTemplate Dialog236();

}  // namespace res
