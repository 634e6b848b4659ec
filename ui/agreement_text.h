// The license agreement that the license dialog shows: one plain text, lines
// separated by CR LF, shown unchanged.
#pragma once

extern const char* const AgreementText;
