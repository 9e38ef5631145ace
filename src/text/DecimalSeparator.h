#pragma once

// The process-wide decimal separator of number <-> text conversions ("." by default; the main
// window fixes "." at start-up). Read at every conversion that depends on it.
char DecimalSeparator();
void SetDecimalSeparator(char separator);
