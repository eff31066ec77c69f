# Fails when the game's program names a picture decoder's library in its dynamic section: those are
# loaded by the decoder helper alone, behind its wall.
#   cmake -DPROGRAM=path -DREADELF=readelf -P LinksNoDecoder.cmake
execute_process(COMMAND ${READELF} --dynamic ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Cannot read the dynamic section of ${PROGRAM}.")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[(libjpeg|libpng|libwebp|libheif|libde265|libdav1d|libaom|libjxl|libseccomp)[^]]*\\]"
       decoders "${dynamic}")
if(decoders)
    message(FATAL_ERROR "${PROGRAM} links a picture decoder, which only the decoder helper may: ${decoders}")
endif()
