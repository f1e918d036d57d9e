/*
 * The interface library's ABI: the seven C functions that every librsapi.so
 * exports, each argument and result a 16-bit signed integer.
 *
 * The binding (interfacelibrary.h) takes each function's type from here; the
 * simulated library and the tests' fake libraries include it, so that the
 * compiler checks their definitions against it. Plain C, so that C fakes can
 * include it too.
 *
 *   FINDHARD(x)          looks for the hardware; the server passes 0
 *   INITSIOS(port)       opens the interface on serial port 0..3
 *   CLOSECOM()           closes the port; the other functions still answer
 *   DIN()                the digital input byte
 *   DOUT(value)          writes the digital output byte
 *   AIN(channel)         the reading of analog input `channel`
 *   AOUT(channel, value) writes analog output `channel`
 */
#ifndef FERROLINK_RSAPI_H
#define FERROLINK_RSAPI_H

#include <stdint.h>

/* Exported from a library built with hidden visibility. */
#define RSAPI_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

RSAPI_EXPORT int16_t FINDHARD(int16_t x);
RSAPI_EXPORT int16_t INITSIOS(int16_t port);
RSAPI_EXPORT int16_t CLOSECOM(void);
RSAPI_EXPORT int16_t DIN(void);
RSAPI_EXPORT int16_t DOUT(int16_t value);
RSAPI_EXPORT int16_t AIN(int16_t channel);
RSAPI_EXPORT int16_t AOUT(int16_t channel, int16_t value);

#ifdef __cplusplus
}
#endif

#endif
