#include "formats/texts/SpokenCaption.h"

void SpokenCaption(const char* caption, char* buffer, size_t size) {
    if (size == 0)
        return;
    size_t length = 0;
    for (const char* at = caption; at != nullptr && *at != '\0';) {
        if (at[0] == '(' && at[1] == '&' && at[2] != '\0' && at[3] == ')') {
            at += 4;
            continue;
        }
        if (at[0] == '&' && at[1] != '\0')
            ++at;
        if (length + 1 < size)
            buffer[length++] = *at;
        ++at;
    }
    while (length > 0 && (buffer[length - 1] == ':' || buffer[length - 1] == ' '))
        --length;
    buffer[length] = '\0';
}
