#include "tdrsynth/CableSamples.h"

#include "model/Format.h"

namespace {

// PR is the inverse of the velocity factor VF = v / c that cable makers print
// on their datasheets (also called NVP or VOP).
CableEntry Entry(const char* name, double velocityFactor)
{
    return CableEntry{name, FormatFixed(1.0 / velocityFactor, 3)};
}

} // namespace

std::vector<CableEntry> StarterCableLibrary()
{
    // Typical values. The factor of one cable is set by its insulation:
    // VF = 1 / sqrt(effective relative permittivity). A given cable's datasheet,
    // or a calibration over a known length, is better than any table.
    return {
        // Solid polyethylene dielectric, relative permittivity 2.25..2.3: VF 0.66,
        // the figure RG-58 and RG-213 datasheets give.
        Entry("Coax, solid PE (RG-58, RG-213)", 0.66),
        // Foamed polyethylene: VF 0.78 in the common coax tables for the foam
        // versions of RG-59 and RG-11.
        Entry("Coax, foamed PE (RG-59, RG-11 foam)", 0.78),
        // Gas-injected PE foam of CATV drop and low-loss cable: VF about 0.85
        // on RG-6 and 400-size low-loss coax datasheets.
        Entry("Coax, gas-injected PE foam (RG-6)", 0.85),
        // PTFE dielectric, relative permittivity 2.1: VF 0.695 (RG-316, RG-142).
        Entry("Coax, PTFE (RG-316, RG-142)", 0.695),
        // Category 5e data cable: NVP 0.69 is the value most datasheets print.
        Entry("Twisted pair, Cat 5e", 0.69),
        // Polyethylene-insulated telephone pairs with an air core: VF about 0.67.
        Entry("Telephone pair, PE insulated, air core", 0.67),
        // Telephone pairs filled with water-blocking jelly, which raises the
        // permittivity around the pairs: VF about 0.64.
        Entry("Телефонная пара, гидрофобное заполнение", 0.64),
        // PVC insulation, relative permittivity 3 to 4 at the frequencies of a
        // reflectometer's pulse: VF about 0.6.
        Entry("Pair, PVC insulated", 0.60),
    };
}
