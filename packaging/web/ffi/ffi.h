/* A stand-in for libffi, which has no WebAssembly port. GObject links it for one purpose
   only: the generic signal marshaller, which calls a C function whose signature it learns at
   run time. The game connects no such signal, so every call here stops the program loudly
   rather than pretending to have called anything. */
#ifndef ORBILUX_FFI_H
#define ORBILUX_FFI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { FFI_OK = 0, FFI_BAD_TYPEDEF, FFI_BAD_ABI } ffi_status;
typedef enum { FFI_DEFAULT_ABI = 1 } ffi_abi;

typedef struct _ffi_type {
  size_t size;
  unsigned short alignment;
  unsigned short type;
  struct _ffi_type **elements;
} ffi_type;

typedef struct {
  ffi_abi abi;
  unsigned nargs;
  ffi_type **arg_types;
  ffi_type *rtype;
} ffi_cif;

typedef unsigned long ffi_arg;
typedef signed long ffi_sarg;

extern ffi_type ffi_type_void, ffi_type_pointer, ffi_type_float, ffi_type_double;
extern ffi_type ffi_type_sint, ffi_type_uint, ffi_type_slong, ffi_type_ulong;
extern ffi_type ffi_type_sint8, ffi_type_uint8, ffi_type_sint16, ffi_type_uint16;
extern ffi_type ffi_type_sint32, ffi_type_uint32, ffi_type_sint64, ffi_type_uint64;

ffi_status ffi_prep_cif(ffi_cif *cif, ffi_abi abi, unsigned nargs, ffi_type *rtype, ffi_type **atypes);
void ffi_call(ffi_cif *cif, void (*fn)(void), void *rvalue, void **avalue);

#ifdef __cplusplus
}
#endif

#endif
