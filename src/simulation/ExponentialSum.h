#pragma once
// The diffusion kernel 1/√(πu) as a sum of decaying exponentials, Σ_m weight[m]·exp(−rate[m]·u), accurate
// to about 3e-8 relative for every u in a given range [uMin, uMax]. A convolution with such a sum is carried
// by one running state per term, each advanced by a multiplication per time step, so that a history of N
// steps costs O(N) instead of O(N²). The same terms with every rate raised by k give e^(−ku)/√(πu), the
// kernel of a species lost in a first-order homogeneous reaction.

#include <vector>

namespace tessaly {

struct ExponentialSum {
    std::vector<double> rate;   // 1/s; rate[0] = 0 (the slowly varying tail of the kernel)
    std::vector<double> weight; // 1/√s
};

// Terms for uMin <= u <= uMax (s, 0 < uMin <= uMax).
ExponentialSum diffusionKernelExponentials(double uMin, double uMax);

} // namespace tessaly
