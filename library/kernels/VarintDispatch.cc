// SPDX-License-Identifier: BSD-3-Clause
// Chooses the varint kernel once, while the library loads, from what the CPU
// and the operating system offer; and the list of kernels the tests and
// benchmarks force in turn.
#include "kernels/VarintRegistry.h"
#include "kernels/VarintScalar.h"

#include <cstring>

#include "kernels/VarintPlatform.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <cpuid.h>
#endif

namespace Pb {
namespace kernels {

namespace detail {
const VarintKernel* active_varint_kernel = &kScalarVarintKernel;
}  // namespace detail

namespace {

bool Bit(std::uint32_t word, int bit) { return (word >> bit) & 1; }

// Whether xgetbv may be executed (OSXSAVE): XCR0 is read only then.
bool OsEnabledXgetbv(const CpuidWords& words) { return Bit(words.leaf1_ecx, 27); }

}  // namespace

VectorKernelChoice ChooseVectorKernels(const CpuidWords& words) {
  VectorKernelChoice choice;
  const std::uint32_t ecx = words.leaf1_ecx;
  // SSSE3, SSE4.1 and POPCNT.
  choice.sse41 = Bit(ecx, 9) && Bit(ecx, 19) && Bit(ecx, 23);
  // AVX, with the SSE and AVX register state saved by the operating system.
  const bool ymm = OsEnabledXgetbv(words) && Bit(ecx, 28) && Bit(words.xcr0, 1) &&
                   Bit(words.xcr0, 2);
  // AVX2 and BMI1. The SSE4.1 and AVX2 kernels use no BMI2: pdep and pext
  // are microcoded on the AMD processors before Zen 3, which have AVX2.
  choice.avx2 = choice.sse41 && ymm && Bit(words.leaf7_ebx, 5) && Bit(words.leaf7_ebx, 3);
  // AVX-512 F, BW and CD, VBMI and VBMI2, with the opmask and all 512-bit
  // register state saved (XCR0 bits 5 to 7).
  const bool zmm = Bit(words.xcr0, 5) && Bit(words.xcr0, 6) && Bit(words.xcr0, 7);
  choice.avx512 = choice.avx2 && zmm && Bit(words.leaf7_ebx, 16) && Bit(words.leaf7_ebx, 30) &&
                  Bit(words.leaf7_ebx, 28) && Bit(words.leaf7_ecx, 1) && Bit(words.leaf7_ecx, 6);
  return choice;
}

namespace {

#if defined(TARVESH_KERNELS_X86_64)
// The register state the operating system saves on a context switch: the
// low word of XCR0, where every state a kernel needs has its bit.
std::uint32_t ReadXcr0() {
  std::uint32_t eax, edx;
  __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return eax;
}

CpuidWords ReadCpuidWords() {
  CpuidWords words;
  unsigned eax, ebx, ecx, edx;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return words;
  words.leaf1_ecx = ecx;
  // xgetbv faults unless the operating system has enabled it.
  if (OsEnabledXgetbv(words)) words.xcr0 = ReadXcr0();
  // Zero where the processor has no leaf 7.
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
    words.leaf7_ebx = ebx;
    words.leaf7_ecx = ecx;
  }
  return words;
}
#else
CpuidWords ReadCpuidWords() { return CpuidWords{}; }
#endif

// The kernels this machine runs, best last.
// Each array ends with a null entry past the last kernel.
struct KernelList {
  const VarintKernel* kernels[5] = {};
  const VarintKernel* counting[5] = {};  // null for the scalar kernel
  int count = 0;

  void Add(VectorKernel vector) {
    if (vector.kernel == nullptr) return;
    kernels[count] = vector.kernel;
    counting[count++] = vector.counting;
  }

  KernelList() {
    Add({&kScalarVarintKernel, nullptr});
    const VectorKernelChoice features = ChooseVectorKernels(ReadCpuidWords());
    if (features.sse41) {
      Add(PrepareSse41VarintKernel());
    }
    if (features.avx2) {
      Add(PrepareAvx2VarintKernel());
    }
    if (features.avx512) {
      Add(PrepareAvx512VarintKernel());
    }
  }
};

const KernelList& Kernels() {
  static const KernelList list;
  return list;
}

// Chooses while the library loads, before any message is parsed or written.
const VarintKernel* const load_time_kernel = [] {
  const KernelList& list = Kernels();
  detail::active_varint_kernel = list.kernels[list.count - 1];
  return detail::active_varint_kernel;
}();

}  // namespace

int VarintKernelCount() { return Kernels().count; }

const VarintKernel& VarintKernelAt(int index) { return *Kernels().kernels[index]; }

namespace {
// The kernel's place in the list; the null entry past the last when none
// has that name.
int KernelIndex(const char* name) {
  const KernelList& list = Kernels();
  int i = 0;
  while (i < list.count && std::strcmp(list.kernels[i]->name, name) != 0) ++i;
  return i;
}
}  // namespace

const VarintKernel* FindVarintKernel(const char* name) {
  return Kernels().kernels[KernelIndex(name)];
}

std::size_t counted_vector_steps = 0;

const VarintKernel* FindCountingVarintKernel(const char* name) {
  return Kernels().counting[KernelIndex(name)];
}

std::size_t TakeVectorStepCount() {
  const std::size_t steps = counted_vector_steps;
  counted_vector_steps = 0;
  return steps;
}

const VarintKernel& LoadTimeVarintKernel() { return *load_time_kernel; }

void ForceVarintKernel(const VarintKernel& kernel) { detail::active_varint_kernel = &kernel; }

}  // namespace kernels
}  // namespace Pb
