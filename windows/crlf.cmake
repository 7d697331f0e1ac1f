# cmake -DFILE=PATH -P crlf.cmake: rewrites a text file with Windows' line endings.
file(READ ${FILE} text)
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${FILE} "${text}")
