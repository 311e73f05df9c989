// The option table: its sections in parser order (keywords are compared in
// this order, and the usage text and the defaults listing follow it).
#include "config/optionbuild.h"

const std::vector<OptionDef>& optiontable() {
  static const std::vector<OptionDef> table = [] {
    std::vector<OptionDef> t;
    addrunrows(t);
    addconditionrows(t);
    addgeometryrows(t);
    addfixationrows(t);
    addwobblerows(t);
    addtargetrows(t);
    addimagerows(t);
    addgratingrows(t);
    addcolourrows(t);
    addstereorows(t);
    adddotrows(t);
    addwordrows(t);
    addscenariorows(t);
    addsoundrows(t);
    addlogportrows(t);
    addsaccaderows(t);
    addairrows(t);
    addwindowrows(t);
    addnbackrows(t);
    addinternalrows(t);
    return t;
  }();
  return table;
}
