// The PE-mode document: the system, controllers, peripheral entities and FC nodes only.
#pragma once

namespace doc {
void printPeModeXml(int adapterCount);
}
