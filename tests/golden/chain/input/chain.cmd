korvan2a /g:chain /n:400 /al:138 /ry:155 /sd:181 /d:187;222 /m:chain.ztm
