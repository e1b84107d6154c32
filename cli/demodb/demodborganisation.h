#pragma once

namespace fee::demo {

class DemoDbWriter;
class DemoRandom;
struct DemoWorld;

// Offices with their departments, the functional departments, the demo
// personnel and their positions, the fee items and the payment methods.
// regularOffices offices carry households; a parking-only office, an office
// without charges and an ended office follow them.
void writeOrganisation(DemoDbWriter& writer, DemoRandom& random, int regularOffices, DemoWorld& world);

} // namespace fee::demo
