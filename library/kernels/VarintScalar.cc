// SPDX-License-Identifier: BSD-3-Clause
// The scalar kernel: the reference every other kernel is tested against,
// and the one used on machines without a vector kernel.
#include "kernels/VarintRegistry.h"
#include "kernels/VarintScalar.h"

namespace Pb {
namespace kernels {
namespace {

template <class T>
const std::uint8_t* Decode(const std::uint8_t* p, const std::uint8_t* end, T* out,
                           std::size_t room, std::size_t* decoded) {
  *decoded = 0;
  return DecodeVarintsUntil(p, end, out, decoded, room);
}

template <class T>
std::uint8_t* Write(const T* values, std::size_t n, std::uint8_t* out, std::uint8_t* /*out_end*/) {
  return WriteVarints(values, n, out);
}

}  // namespace

const VarintKernel kScalarVarintKernel = {
    "scalar",
    &CountEnds,
    &Decode<std::uint32_t>,
    &Decode<std::int32_t>,
    &VarintsSize<std::uint32_t>,
    &VarintsSize<std::int32_t>,
    &Write<std::uint32_t>,
    &Write<std::int32_t>,
};

}  // namespace kernels
}  // namespace Pb
