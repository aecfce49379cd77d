# Copies the program folder's files into DST. Files a user or the program may
# change (the ini files) are copied only when absent; language packs and other
# shipped files are refreshed.
foreach(keep Travimo.ini Language.ini Graph.ini)
  if(NOT EXISTS ${DST}/${keep})
    file(COPY ${SRC}/${keep} DESTINATION ${DST})
  endif()
endforeach()
file(GLOB packs ${SRC}/Language/*)
foreach(p ${packs})
  file(COPY ${p} DESTINATION ${DST}/Language)
endforeach()
file(MAKE_DIRECTORY ${DST}/USB ${DST}/Photo ${DST}/Language)
