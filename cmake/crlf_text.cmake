# Writes a text file with Windows line ends, @VERSION@ filled in, for the portable zip.
cmake_minimum_required(VERSION 3.25)
# cmake -DIN=<text> -DOUT=<file> -DVERSION=<version> -P crlf_text.cmake
file(READ ${IN} text)
string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
