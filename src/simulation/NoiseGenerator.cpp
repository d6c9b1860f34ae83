#include "simulation/NoiseGenerator.h"

#include <cmath>

namespace tessaly {

double NoiseGenerator::nextGaussian() {
    const double radius = std::sqrt(2.0 * std::log(199017.0 / draw()));
    return radius * std::cos(6.28318530717958 * draw() / 199017.0);
}

} // namespace tessaly
