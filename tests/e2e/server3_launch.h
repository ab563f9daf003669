#pragma once
// The launch of user "demo" on the demo site's server 3, whose name is
// Chinese with a blank (demo/server.py): the page's record and the
// parameter string the client must receive, in the launcher's code page.
#include <string>

#include "support/code_page_text.h"

namespace e2e {

inline const std::string kServer3Record =
    "demo;SN-10421;10421;3;港口 东区;127.0.0.1;7003;http://127.0.0.1/pay;S3;Q10421;127.0.0.1;http://127.0.0.1/client;3";

inline std::string Server3Parameters() {
  const std::string area = Gbk("港口 东区");
  return "ur;ip=127.0.0.1;port=7003;areaname=" + area +
         ";tx_ip=127.0.0.1;LT=0;UNAME=demo;SERIAL=SN-10421;UID=10421;SERVERID=3;SERVERNAME=" + area +
         ";PayUrl=http://127.0.0.1/pay;Server=S3;Qid=Q10421;ClientUrl=http://127.0.0.1/client;CurServerID=3";
}

}  // namespace e2e
