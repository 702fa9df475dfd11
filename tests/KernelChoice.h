// SPDX-License-Identifier: BSD-3-Clause
// Every varint kernel this machine runs, for the parse judge to read with
// in turn. Reaches the library's internals: only for builds that link the
// library's objects.
#ifndef TARVESH_TESTS_KERNEL_CHOICE_H
#define TARVESH_TESTS_KERNEL_CHOICE_H

#include "ParseJudge.h"
#include "kernels/VarintKernels.h"

namespace tarvesh_test {

namespace kernel_choice_detail {

using Pb::kernels::VarintKernel;

inline bool called = false;

// An entry point of the noting twin: notes the call and hands it, as it is,
// to the kernel chosen at load.
template <auto Entry>
struct Noting;
template <class R, class... Args, R (*VarintKernel::*Entry)(Args...)>
struct Noting<Entry> {
  static R Call(Args... args) {
    called = true;
    return (Pb::kernels::LoadTimeVarintKernel().*Entry)(args...);
  }
};

// Every entry point listed: a kernel that gains one fails here until it is.
static_assert(sizeof(VarintKernel) == sizeof(const char*) + 7 * sizeof(void (*)()),
              "the noting twin lists every entry point of VarintKernel");
inline const VarintKernel kNotingTwin = {
    "noting",
    Noting<&VarintKernel::count_ends>::Call,
    Noting<&VarintKernel::decode_plain>::Call,
    Noting<&VarintKernel::decode_zigzag>::Call,
    Noting<&VarintKernel::size_plain>::Call,
    Noting<&VarintKernel::size_zigzag>::Call,
    Noting<&VarintKernel::write_plain>::Call,
    Noting<&VarintKernel::write_zigzag>::Call,
};

}  // namespace kernel_choice_detail

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
    c.watch = [] {
      ForceVarintKernel(kernel_choice_detail::kNotingTwin);
      kernel_choice_detail::called = false;
    };
    c.noted = [] {
      const bool called = kernel_choice_detail::called;
      kernel_choice_detail::called = false;
      return called;
    };
    return c;
  }();
  return choice;
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_KERNEL_CHOICE_H
