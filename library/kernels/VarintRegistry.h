// SPDX-License-Identifier: BSD-3-Clause
// The kernels the dispatcher chooses from: the scalar kernel, defined for
// every machine, and one preparation function per vector kernel, which
// builds its tables and answers null where this build or machine lacks it.
#ifndef TARVESH_KERNELS_VARINT_REGISTRY_H
#define TARVESH_KERNELS_VARINT_REGISTRY_H

#include "kernels/VarintKernels.h"

namespace Pb {
namespace kernels {

extern const VarintKernel kScalarVarintKernel;

struct VectorKernel {
  const VarintKernel* kernel;
  const VarintKernel* counting;  // the same kernel, counting its vector steps
};
// Called by the dispatcher while the library loads, only on a machine that
// runs the kernel.
VectorKernel PrepareSse41VarintKernel();
VectorKernel PrepareAvx2VarintKernel();
VectorKernel PrepareAvx512VarintKernel();

}  // namespace kernels
}  // namespace Pb

#endif  // TARVESH_KERNELS_VARINT_REGISTRY_H
