# Makes the test PKI with openssl: a test CA, a server certificate that it
# signs for localhost and 127.0.0.1, and a second CA with its own server
# certificate that nothing trusts. Made once per build folder.
function(keldo_make_test_pki dir)
  if(EXISTS "${dir}/untrusted.pem")
    return()
  endif()
  find_program(KELDO_OPENSSL openssl REQUIRED)
  file(MAKE_DIRECTORY "${dir}")
  file(WRITE "${dir}/server.ext"
       "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n"
       "extendedKeyUsage=serverAuth\nsubjectAltName=DNS:localhost,IP:127.0.0.1\n")
  foreach(pair "ca;server;1001" "untrusted-ca;untrusted;2002")
    list(GET pair 0 ca)
    list(GET pair 1 leaf)
    list(GET pair 2 serial)
    set(steps
        "req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -subj /CN=Keldo-${ca} -keyout ${ca}.key -out ${ca}.pem -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign"
        "req -new -newkey rsa:2048 -nodes -sha256 -subj /CN=localhost -keyout ${leaf}.key -out ${leaf}.csr"
        "x509 -req -sha256 -days 825 -in ${leaf}.csr -CA ${ca}.pem -CAkey ${ca}.key -set_serial ${serial} -extfile server.ext -out ${leaf}.pem")
    foreach(step IN LISTS steps)
      separate_arguments(args UNIX_COMMAND "${step}")
      execute_process(COMMAND ${KELDO_OPENSSL} ${args} WORKING_DIRECTORY "${dir}"
                      RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE err)
      if(failed)
        message(FATAL_ERROR "openssl ${step} failed: ${err}")
      endif()
    endforeach()
  endforeach()
endfunction()
