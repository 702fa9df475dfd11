// SPDX-License-Identifier: BSD-3-Clause
// Kernels for packed varint columns of 32-bit elements: counting, decoding,
// sizing and writing whole payloads. One kernel per instruction set, the one
// to use chosen once when the library loads; the scalar kernel is the
// reference every other kernel must match byte for byte and verdict for
// verdict.
//
// The message code calls ActiveVarintKernel() only. The rest of this header
// (the list of kernels this machine runs, and forcing one) is for the tests,
// the fuzz harnesses and the benchmarks, which compare and time each kernel;
// none of it is exported from the shared library, so they link the library's
// objects (TarveshProtoBufObjects, library/CMakeLists.txt).
#ifndef TARVESH_KERNELS_VARINT_KERNELS_H
#define TARVESH_KERNELS_VARINT_KERNELS_H

#include <cstddef>
#include <cstdint>

namespace Pb {
namespace kernels {

struct VarintKernel {
  const char* name;  // "scalar", "avx2", "avx512", ...

  // Number of bytes below 0x80 in [p, p + size): the varints that end there.
  std::size_t (*count_ends)(const std::uint8_t* p, std::size_t size);

  // Decodes the varints of [p, end) into out, which has room for `room`
  // elements, until the payload ends or the room is full: room at least
  // count_ends(p, end - p) decodes them all. (A vector step stores whole
  // registers past its last element, so the vector steps stop where that
  // would pass `room` and the scalar steps finish.) end[-1] is below 0x80.
  // Values are taken modulo 2^32 as the runtime takes them for a 32-bit
  // field; a varint whose first ten bytes all carry the continuation bit
  // fails. Returns where it stopped (end, or the first varint with no room
  // left), or null on failure; *decoded is the number of elements written
  // (on failure, those before the bad varint).
  const std::uint8_t* (*decode_plain)(const std::uint8_t* p, const std::uint8_t* end,
                                      std::uint32_t* out, std::size_t room,
                                      std::size_t* decoded);
  const std::uint8_t* (*decode_zigzag)(const std::uint8_t* p, const std::uint8_t* end,
                                       std::int32_t* out, std::size_t room,
                                       std::size_t* decoded);

  // Encoded bytes of n elements.
  std::size_t (*size_plain)(const std::uint32_t* values, std::size_t n);
  std::size_t (*size_zigzag)(const std::int32_t* values, std::size_t n);

  // Writes n elements at out and returns the end of what it wrote. The caller
  // gives exactly (or at least) their encoded size as [out, out_end); no byte
  // at or past out_end is touched.
  std::uint8_t* (*write_plain)(const std::uint32_t* values, std::size_t n, std::uint8_t* out,
                               std::uint8_t* out_end);
  std::uint8_t* (*write_zigzag)(const std::int32_t* values, std::size_t n, std::uint8_t* out,
                                std::uint8_t* out_end);
};

namespace detail {
// Set to the scalar kernel before any code runs, then to the best kernel this
// machine offers while the library loads.
extern const VarintKernel* active_varint_kernel;
}  // namespace detail

inline const VarintKernel& ActiveVarintKernel() { return *detail::active_varint_kernel; }

// --- For tests, fuzz harnesses and benchmarks only.

// The kernels this machine can run, the scalar one first.
int VarintKernelCount();
const VarintKernel& VarintKernelAt(int index);
// The kernel named `name` if this machine runs it, else null.
const VarintKernel* FindVarintKernel(const char* name);
// A twin of the vector kernel named `name` that adds up the elements its
// vector steps take (for count_ends: the bytes), for TakeVectorStepCount();
// null for the scalar kernel and for kernels this machine lacks. The results
// alone cannot show that a kernel's vector steps take all they can, and one
// that left everything to the scalar steps would still pass every other
// check. Not synchronised.
const VarintKernel* FindCountingVarintKernel(const char* name);
// The count since the last call, which resets it.
std::size_t TakeVectorStepCount();
// The kernel chosen at load.
const VarintKernel& LoadTimeVarintKernel();
// Makes every later parse, size and write use `kernel` (a kernel of the list
// above). Not synchronised: call it while no message is in use elsewhere.
void ForceVarintKernel(const VarintKernel& kernel);

// The processor's words the choice reads: CPUID leaf 1 ECX, leaf 7 (sub-leaf
// 0) EBX and ECX, and the low word of XCR0; zero where the processor has
// none.
struct CpuidWords {
  std::uint32_t leaf1_ecx = 0;
  std::uint32_t leaf7_ebx = 0;
  std::uint32_t leaf7_ecx = 0;
  std::uint32_t xcr0 = 0;
};
struct VectorKernelChoice {
  bool sse41 = false;
  bool avx2 = false;
  bool avx512 = false;
};
// The vector kernels a processor with these words runs.
VectorKernelChoice ChooseVectorKernels(const CpuidWords& words);

}  // namespace kernels
}  // namespace Pb

#endif  // TARVESH_KERNELS_VARINT_KERNELS_H
