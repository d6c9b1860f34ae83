#pragma once
// Deterministic Gaussian noise: the same number of points gives the same noise on every run, so a
// simulated "measurement" can be reproduced exactly. A multiplicative congruential generator
// (x -> (24298 x + 99991) mod 199017, plus 1) feeds the Box-Muller transform, two draws per point.

namespace tessaly {

class NoiseGenerator {
public:
    explicit NoiseGenerator(int nPoints) : m_x(2.0 * nPoints) {}

    // The next uniform state in 1..199017.
    double draw() {
        m_x = 24298.0 * m_x + 99991.0;
        m_x = m_x + 1.0 - static_cast<double>(static_cast<long long>(m_x / 199017.0)) * 199017.0;
        return m_x;
    }

    // A standard normal deviate (two draws).
    double nextGaussian();

private:
    double m_x;
};

} // namespace tessaly
