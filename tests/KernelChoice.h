// SPDX-License-Identifier: BSD-3-Clause
// Every varint kernel this machine runs, for the parse judge to read with
// in turn. Reaches the library's internals: only for builds that link the
// library's objects.
#ifndef TARVESH_TESTS_KERNEL_CHOICE_H
#define TARVESH_TESTS_KERNEL_CHOICE_H

#include "ParseJudge.h"
#include "kernels/VarintKernels.h"

namespace tarvesh_test {

inline const KernelChoice& EveryKernel() {
  static const KernelChoice choice = [] {
    using namespace Pb::kernels;
    KernelChoice c;
    c.count = VarintKernelCount();
    for (int k = 0; k < c.count; ++k) {
      if (&VarintKernelAt(k) == &LoadTimeVarintKernel()) c.load_time = k;
    }
    c.force = [](int index) {
      ForceVarintKernel(VarintKernelAt(index));
      return VarintKernelAt(index).name;
    };
    return c;
  }();
  return choice;
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_KERNEL_CHOICE_H
